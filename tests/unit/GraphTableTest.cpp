#include "shell/GraphTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Entry = std::tuple<int, int, int>; // input pin, output pin or option byte, source

constexpr int kModules = 77;

// Module IDs in run order.
const int16_t kExpectedIds[] = {
    6003, 6432, 6005, 6009, 6433, 6438, 6016, 6017, 6327, 6347, 6018, 6019,
    6328, 6348, 6020, 6021, 6329, 6349, 6022, 6023, 6330, 6350, 6024, 6025,
    6331, 6351, 6361, 6362, 6026, 6027, 6368, 6040, 6233, 6188, 6198, 6182,
    6337, 6204, 6234, 6189, 6199, 6183, 6338, 6205, 6235, 6190, 6200, 6184,
    6339, 6206, 6248, 6249, 6250, 6028, 6400, 6031, 6344, 6237, 6032, 6371,
    6035, 6378, 6029, 6030, 6343, 6238, 6033, 6373, 6034, 6379, 6340, 6036,
    6152, 6251, 6439, 6429, 6146,
};

// Number of entries (inputs and display outputs) of each module.
const int kExpectedEntryCounts[] = {
    0, 1, 16, 29, 12, 4, 1, 2, 1, 5, 1, 2, 1, 5, 1, 2, 1, 5, 1, 2,
    1, 5, 1, 2, 1, 5, 34, 34, 1, 1, 4, 1, 6, 1, 5, 1, 1, 6, 6, 1,
    5, 1, 1, 6, 6, 1, 5, 1, 1, 6, 4, 4, 4, 2, 15, 1, 9, 7, 1, 8,
    2, 9, 1, 1, 9, 7, 1, 8, 2, 9, 1, 2, 11, 4, 6, 7, 3,
};

// #2, CK_DSP_FixedValueToVolt
const std::vector<Entry> kRecord2 = {
    {0, 0, 5500}, {1, 0, 5505}, {2, 0, 5510}, {3, 0, 5501}, {4, 0, 5520}, {5, 0, 5506}, {6, 0, 5630},
    {7, 0, 5503}, {8, 0, 5504}, {9, 0, 5557}, {10, 0, 5559}, {11, 0, 5583}, {12, 0, 5607}, {13, 0, 5599},
    {14, 0, 5591}, {15, 0, 5550},
};

// #3, CK_DSP_FixedValueToINT_FLOAT
const std::vector<Entry> kRecord3 = {
    {0, 0, 5500}, {1, 0, 5501}, {2, 0, 5502}, {3, 0, 5503}, {4, 0, 5504}, {5, 0, 5505}, {6, 0, 5506},
    {7, 0, 5507}, {8, 0, 5508}, {9, 0, 5509}, {10, 0, 5510}, {11, 0, 5511}, {12, 0, 5512}, {13, 0, 5513},
    {14, 0, 5514}, {15, 0, 5515}, {16, 0, 5516}, {17, 0, 5517}, {18, 0, 5518}, {19, 0, 5519}, {20, 0, 5520},
    {21, 0, 5521}, {22, 0, 5522}, {23, 0, 5523}, {24, 0, 5524}, {25, 0, 5525}, {39, 0, 5630}, {40, 0, 5633},
    {41, 0, 5502},
};

// #9, CK_DSP_BiQuad_Coeff
const std::vector<Entry> kRecord9 = {
    {0, 0, 6016}, {1, 0, 6017}, {2, 0, 6327}, {5, 1, 6009}, {6, 0, 75},
};

// #26, CK_DSP_BiQuad_Multi_Engine
const std::vector<Entry> kRecord26 = {
    {0, 0, 6438}, {1, 1, 6009}, {3, 0, 36}, {5, 14, 6438}, {9, 0, 6347}, {10, 1, 6347}, {11, 2, 6347},
    {12, 3, 6347}, {13, 4, 6347}, {14, 5, 6347}, {19, 0, 6348}, {20, 1, 6348}, {21, 2, 6348}, {22, 3, 6348},
    {23, 4, 6348}, {24, 5, 6348}, {29, 0, 6349}, {30, 1, 6349}, {31, 2, 6349}, {32, 3, 6349}, {33, 4, 6349},
    {34, 5, 6349}, {39, 0, 6350}, {40, 1, 6350}, {41, 2, 6350}, {42, 3, 6350}, {43, 4, 6350}, {44, 5, 6350},
    {49, 0, 6351}, {50, 1, 6351}, {51, 2, 6351}, {52, 3, 6351}, {53, 4, 6351}, {54, 5, 6351},
};

// #32, CK_DSP_Metering2
const std::vector<Entry> kRecord32 = {
    {0, 0, 6368}, {1, 3, 6368}, {6, 0, 20}, {8, 0, 19}, {9, 0, 70}, {230, 10, 100},
};

// #37, CK_DSP_Compressor_AHR
const std::vector<Entry> kRecord37 = {
    {0, 0, 6182}, {1, 0, 6337}, {2, 0, 6433}, {3, 1, 6433}, {4, 0, 6040}, {9, 0, 70},
};

// #54, CK_DSP_Spatial
const std::vector<Entry> kRecord54 = {
    {0, 0, 6248}, {1, 1, 6248}, {2, 0, 6204}, {3, 0, 6249}, {4, 1, 6249}, {5, 0, 6205}, {6, 0, 6250},
    {7, 1, 6250}, {8, 0, 6206}, {9, 0, 6028}, {10, 0, 49}, {11, 0, 52}, {12, 0, 51}, {19, 0, 53},
    {21, 0, 73},
};

// #61, CK_DSP_Synthetic_Harmonics
const std::vector<Entry> kRecord61 = {
    {0, 0, 6371}, {1, 1, 6371}, {2, 0, 6344}, {3, 1, 6344}, {4, 0, 6035}, {5, 0, 62}, {6, 0, 81},
    {7, 0, 6237}, {9, 0, 60},
};

// #72, CK_DSP_ST_Mix
const std::vector<Entry> kRecord72 = {
    {0, 0, 6379}, {1, 1, 6379}, {4, 0, 6036}, {5, 0, 6340}, {6, 0, 73}, {19, 0, 6248}, {20, 1, 6248},
    {21, 0, 6249}, {22, 1, 6249}, {23, 0, 6250}, {24, 1, 6250},
};

// #74, CK_DSP_BrelvikSuite_Output
const std::vector<Entry> kRecord74 = {
    {0, 0, 6251}, {1, 1, 6251}, {2, 0, 6003}, {3, 1, 6003}, {5, 0, 73}, {9, 0, 86},
};

// #75, CK_DSP_Wave_Freq_Display
const std::vector<Entry> kRecord75 = {
    {0, 0, 6439}, {1, 1, 6439}, {11, 0, 37}, {231, 0, 105}, {232, 0, 106}, {239, 0, 104}, {235, 0, 109},
};

const uint8_t* record(int position)
{
    return kGraphTableBytes + static_cast<size_t>(position) * kGraphRecordBytes;
}

// The entries of a record up to its first end pin.
std::vector<Entry> entriesOf(int position)
{
    std::vector<Entry> result;
    for (int k = 0; k < kGraphEntriesPerRecord; ++k) {
        const CK_GraphEntry e = graphRecordEntry(record(position), k);
        if (e.inputPin == kGraphPinEnd) break;
        result.emplace_back(e.inputPin, e.outputPin, e.source);
    }
    return result;
}

TEST(GraphTable, RecordsUseThePacked258ByteLayout)
{
    EXPECT_EQ(kGraphRecordBytes, 258);
    EXPECT_EQ(kGraphTableSize, static_cast<size_t>(78 * 258));
}

TEST(GraphTable, ModulesFollowTheRunOrderThenTheEndRecord)
{
    ASSERT_EQ(sizeof(kExpectedIds) / sizeof(kExpectedIds[0]), static_cast<size_t>(kModules));
    for (int m = 0; m < kModules; ++m) EXPECT_EQ(graphRecordId(record(m)), kExpectedIds[m]) << "#" << m;
    EXPECT_EQ(graphRecordId(record(kModules)), 6452);
    EXPECT_EQ(entriesOf(kModules).size(), 0u) << "the end record carries no entries";
}

TEST(GraphTable, EveryEntryListEndsWithTheEndPin)
{
    for (int m = 0; m < kModules; ++m) {
        SCOPED_TRACE("#" + std::to_string(m));
        EXPECT_EQ(entriesOf(m).size(), static_cast<size_t>(kExpectedEntryCounts[m]));
        if (kExpectedEntryCounts[m] < kGraphEntriesPerRecord) {
            EXPECT_EQ(graphRecordEntry(record(m), kExpectedEntryCounts[m]).inputPin, kGraphPinEnd);
        }
    }
}

TEST(GraphTable, RecordsDecodeToTheirInputsAndDisplayOutputs)
{
    EXPECT_EQ(entriesOf(2), kRecord2);
    EXPECT_EQ(entriesOf(3), kRecord3);
    EXPECT_EQ(entriesOf(9), kRecord9);
    EXPECT_EQ(entriesOf(26), kRecord26);
    EXPECT_EQ(entriesOf(32), kRecord32);
    EXPECT_EQ(entriesOf(37), kRecord37);
    EXPECT_EQ(entriesOf(54), kRecord54);
    EXPECT_EQ(entriesOf(61), kRecord61);
    EXPECT_EQ(entriesOf(72), kRecord72);
    EXPECT_EQ(entriesOf(74), kRecord74);
    EXPECT_EQ(entriesOf(75), kRecord75);
}

TEST(GraphTable, ModuleIdsAreUniqueAndSelectAModuleClass)
{
    const std::pair<int, int> classRanges[] = {
        {6003, 6003}, {6004, 6006}, {6008, 6010}, {6015, 6036}, {6038, 6041}, {6144, 6146}, {6151, 6153},
        {6180, 6185}, {6187, 6191}, {6196, 6200}, {6202, 6206}, {6232, 6238}, {6247, 6252}, {6325, 6331},
        {6333, 6340}, {6342, 6344}, {6346, 6351}, {6360, 6362}, {6367, 6368}, {6370, 6374}, {6376, 6379},
        {6399, 6400}, {6428, 6430}, {6432, 6432}, {6433, 6433}, {6438, 6438}, {6439, 6439},
    };
    std::set<int> ids;
    for (int m = 0; m < kModules; ++m) {
        const int id = graphRecordId(record(m));
        EXPECT_TRUE(ids.insert(id).second) << "duplicate ID " << id;
        bool known = false;
        for (const auto& r : classRanges) known = known || (id >= r.first && id <= r.second);
        EXPECT_TRUE(known) << "ID " << id << " names no module class";
    }
}

TEST(GraphTable, SourcesExistBeforeTheirReaders)
{
    const std::set<int> unassigned = {0, 1, 18, 54, 83, 84, 85, 88, 97, 98, 99};
    std::set<int> earlier;
    for (int m = 0; m < kModules; ++m) {
        SCOPED_TRACE("#" + std::to_string(m));
        for (const Entry& e : entriesOf(m)) {
            const int pin = std::get<0>(e);
            const int source = std::get<2>(e);
            if (pin >= kGraphDisplayPinBase) {
                EXPECT_GE(source, 100) << "display outputs feed the editor's display controls";
                EXPECT_LE(source, 110);
            } else if (source >= kModuleIdFirst) {
                EXPECT_TRUE(earlier.count(source)) << "module " << source << " is not an earlier record";
            } else if (source >= kGraphSourceConstant) {
                EXPECT_LT(source - kGraphSourceConstant, 500);
            } else {
                EXPECT_GE(source, 0);
                EXPECT_LE(source, 110);
                EXPECT_FALSE(unassigned.count(source)) << "parameter " << source << " has no meaning";
            }
        }
        earlier.insert(graphRecordId(record(m)));
    }
}

TEST(GraphTable, ConstantInputsReadTheirValues)
{
    const float expected2[] = {0, 5, 10, 1, 20, 6, 0.1f, 3, 4, 150, 200, 800, 5000, 3000, 1000, 50};
    const float expected3[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,   13,   14,
                               15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 0.1f, 0.4f, 2};
    const std::vector<Entry> entries2 = entriesOf(2);
    const std::vector<Entry> entries3 = entriesOf(3);
    ASSERT_EQ(entries2.size(), sizeof(expected2) / sizeof(expected2[0]));
    ASSERT_EQ(entries3.size(), sizeof(expected3) / sizeof(expected3[0]));
    for (size_t k = 0; k < entries2.size(); ++k) {
        EXPECT_FLOAT_EQ(kGraphConstantPool[std::get<2>(entries2[k]) - kGraphSourceConstant], expected2[k]);
    }
    for (size_t k = 0; k < entries3.size(); ++k) {
        EXPECT_FLOAT_EQ(kGraphConstantPool[std::get<2>(entries3[k]) - kGraphSourceConstant], expected3[k]);
    }
}

TEST(GraphConstantPool, HoldsTheChainConstantsAndZeroElsewhere)
{
    std::vector<float> expected(500, 0.0f);
    for (int n = 0; n <= 25; ++n) expected[n] = static_cast<float>(n);
    expected[50] = 50;
    expected[57] = 150;
    expected[59] = 200;
    expected[83] = 800;
    expected[91] = 1000;
    expected[99] = 3000;
    expected[107] = 5000;
    expected[130] = 0.1f;
    expected[133] = 0.4f;
    for (int n = 0; n < 500; ++n) EXPECT_EQ(kGraphConstantPool[n], expected[n]) << "entry " << n;
}

TEST(GraphTableReaders, ReadLittleEndianFieldsAtAnyAlignment)
{
    uint8_t buffer[1 + kGraphRecordBytes] = {};
    uint8_t* r = buffer + 1; // deliberately misaligned
    r[0] = 0x59;             // 6233 = 0x1859
    r[1] = 0x18;
    r[2 + 4 * 3] = 230;
    r[3 + 4 * 3] = 10;
    r[4 + 4 * 3] = 0xFF; // -1
    r[5 + 4 * 3] = 0xFF;
    r[2 + 4 * 63] = 7;
    r[3 + 4 * 63] = 2;
    r[4 + 4 * 63] = 0xB2; // 6322 = 0x18B2
    r[5 + 4 * 63] = 0x18;
    EXPECT_EQ(graphRecordId(r), 6233);
    const CK_GraphEntry e3 = graphRecordEntry(r, 3);
    EXPECT_EQ(e3.inputPin, 230);
    EXPECT_EQ(e3.outputPin, 10);
    EXPECT_EQ(e3.source, -1);
    const CK_GraphEntry e63 = graphRecordEntry(r, 63);
    EXPECT_EQ(e63.inputPin, 7);
    EXPECT_EQ(e63.outputPin, 2);
    EXPECT_EQ(e63.source, 6322);
}

} // namespace
