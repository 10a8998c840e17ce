// Drives the crossover's pipelined stage groups over a run of frames.
#pragma once

#include <cstdint>
#include <type_traits>

// step(t, checked) runs every group on the frame it has reached at step t, group d on frame
// t - d for d = 0..Depth. In the steps that fill and drain the pipeline some groups have no frame
// to work on; only those steps get checked = std::true_type, so the steady loop tests nothing.
template <int32_t Depth, class Step>
inline void ck_runPipelined(int32_t count, Step&& step)
{
    int32_t t = 0;
    for (; t < Depth; ++t)
        step(t, std::true_type{});
    for (; t < count; ++t)
        step(t, std::false_type{});
    for (; t < count + Depth; ++t)
        step(t, std::true_type{});
}
