// Word-sized values shared between the host's threads and the audio thread without locks: every
// access is a single relaxed atomic load or store, so readers see either the old or the new value.
#pragma once

template <typename T>
inline T relaxedLoad(const T& cell)
{
    T value;
    __atomic_load(&cell, &value, __ATOMIC_RELAXED);
    return value;
}

template <typename T>
inline void relaxedStore(T& cell, T value)
{
    __atomic_store(&cell, &value, __ATOMIC_RELAXED);
}
