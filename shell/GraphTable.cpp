// The graph table: the signal chain, written as one readable list and packed into the 258-byte
// record layout at compile time.
#include "shell/GraphTable.h"

namespace {

constexpr int kModuleCount = 77;
constexpr int kRecordCount = kModuleCount + 1; // the modules and the end record
constexpr size_t kTableBytes = static_cast<size_t>(kRecordCount) * kGraphRecordBytes;
constexpr int kPoolSize = 500;

struct ConstantPool {
    float value[kPoolSize];
};

constexpr ConstantPool makeConstantPool()
{
    ConstantPool pool{};
    for (int n = 0; n <= 25; ++n) pool.value[n] = static_cast<float>(n);
    pool.value[50] = 50.0f;
    pool.value[57] = 150.0f;
    pool.value[59] = 200.0f;
    pool.value[83] = 800.0f;
    pool.value[91] = 1000.0f;
    pool.value[99] = 3000.0f;
    pool.value[107] = 5000.0f;
    pool.value[130] = 0.1f;
    pool.value[133] = 0.4f;
    return pool;
}

constexpr ConstantPool kPool = makeConstantPool();

constexpr int16_t kNoSuchConstant = -1;

// Source code of a constant input: the first pool entry holding the value.
constexpr int16_t K(float value)
{
    for (int n = 0; n < kPoolSize; ++n) {
        if (kPool.value[n] == value) return static_cast<int16_t>(kGraphSourceConstant + n);
    }
    return kNoSuchConstant;
}

// Source code of a parameter input.
constexpr int16_t P(int parameter)
{
    return static_cast<int16_t>(parameter);
}

// Pin of display output slot s.
constexpr uint8_t D(int slot)
{
    return static_cast<uint8_t>(kGraphDisplayPinBase + slot);
}

// One entry: {input pin, source output pin (the option byte for display outputs), source}. A
// source is a module ID, K(constant), P(parameter) or, for display outputs, an editor control.
// Entries left out stay unused: input pin 255, the other fields 0.
struct Entry {
    uint8_t pin = kGraphPinEnd;
    uint8_t out = 0;
    int16_t source = 0;
};

struct Module {
    int16_t id;
    Entry in[kGraphEntriesPerRecord];
};

// The chain in run order.
constexpr Module kModules[kModuleCount] = {
    /*  0 */ {6003, {}}, // Host_AudioIn
    /*  1 */ {6432, {{0, 0, P(96)}}}, // OS_Command
    /*  2 */ {6005, {{0, 0, K(0)}, {1, 0, K(5)}, {2, 0, K(10)}, {3, 0, K(1)}, {4, 0, K(20)}, {5, 0, K(6)}, // FixedValueToVolt
               {6, 0, K(0.1f)}, {7, 0, K(3)}, {8, 0, K(4)}, {9, 0, K(150)}, {10, 0, K(200)}, {11, 0, K(800)},
               {12, 0, K(5000)}, {13, 0, K(3000)}, {14, 0, K(1000)}, {15, 0, K(50)}}},
    /*  3 */ {6009, {{0, 0, K(0)}, {1, 0, K(1)}, {2, 0, K(2)}, {3, 0, K(3)}, {4, 0, K(4)}, {5, 0, K(5)}, {6, 0, K(6)}, // FixedValueToINT_FLOAT
               {7, 0, K(7)}, {8, 0, K(8)}, {9, 0, K(9)}, {10, 0, K(10)}, {11, 0, K(11)}, {12, 0, K(12)},
               {13, 0, K(13)}, {14, 0, K(14)}, {15, 0, K(15)}, {16, 0, K(16)}, {17, 0, K(17)}, {18, 0, K(18)},
               {19, 0, K(19)}, {20, 0, K(20)}, {21, 0, K(21)}, {22, 0, K(22)}, {23, 0, K(23)}, {24, 0, K(24)},
               {25, 0, K(25)}, {39, 0, K(0.1f)}, {40, 0, K(0.4f)}, {41, 0, K(2)}}},
    /*  4 */ {6433, {{0, 0, P(2)}, {1, 0, P(38)}, {2, 0, P(39)}, {3, 0, P(40)}, {4, 0, P(3)}, {5, 0, P(41)}, // Brelvik_ParamAdj
               {6, 0, P(42)}, {7, 0, P(43)}, {8, 0, P(4)}, {9, 0, P(44)}, {10, 0, P(45)}, {11, 0, P(46)}}},
    /*  5 */ {6438, {{0, 0, 6003}, {1, 1, 6003}, {2, 0, P(73)}, {9, 0, P(80)}}}, // BrelvikSuite_Input
    /*  6 */ {6016, {{0, 0, P(21)}}}, // GUItoV_Glide
    /*  7 */ {6017, {{0, 0, P(23)}, {19, 0, 6009}}}, // GUItoV_Glide
    /*  8 */ {6327, {{0, 0, P(22)}}}, // FdB_to_VFGain
    /*  9 */ {6347, {{0, 0, 6016}, {1, 0, 6017}, {2, 0, 6327}, {5, 1, 6009}, {6, 0, P(75)}}}, // BiQuad_Coeff
    /* 10 */ {6018, {{0, 0, P(24)}}}, // GUItoV_Glide
    /* 11 */ {6019, {{0, 0, P(26)}, {19, 0, 6009}}}, // GUItoV_Glide
    /* 12 */ {6328, {{0, 0, P(25)}}}, // FdB_to_VFGain
    /* 13 */ {6348, {{0, 0, 6018}, {1, 0, 6019}, {2, 0, 6328}, {5, 1, 6009}, {6, 0, P(76)}}}, // BiQuad_Coeff
    /* 14 */ {6020, {{0, 0, P(27)}}}, // GUItoV_Glide
    /* 15 */ {6021, {{0, 0, P(29)}, {19, 0, 6009}}}, // GUItoV_Glide
    /* 16 */ {6329, {{0, 0, P(28)}}}, // FdB_to_VFGain
    /* 17 */ {6349, {{0, 0, 6020}, {1, 0, 6021}, {2, 0, 6329}, {5, 1, 6009}, {6, 0, P(77)}}}, // BiQuad_Coeff
    /* 18 */ {6022, {{0, 0, P(30)}}}, // GUItoV_Glide
    /* 19 */ {6023, {{0, 0, P(32)}, {19, 0, 6009}}}, // GUItoV_Glide
    /* 20 */ {6330, {{0, 0, P(31)}}}, // FdB_to_VFGain
    /* 21 */ {6350, {{0, 0, 6022}, {1, 0, 6023}, {2, 0, 6330}, {5, 1, 6009}, {6, 0, P(78)}}}, // BiQuad_Coeff
    /* 22 */ {6024, {{0, 0, P(33)}}}, // GUItoV_Glide
    /* 23 */ {6025, {{0, 0, P(35)}, {19, 0, 6009}}}, // GUItoV_Glide
    /* 24 */ {6331, {{0, 0, P(34)}}}, // FdB_to_VFGain
    /* 25 */ {6351, {{0, 0, 6024}, {1, 0, 6025}, {2, 0, 6331}, {5, 1, 6009}, {6, 0, P(79)}}}, // BiQuad_Coeff
    /* 26 */ {6361, {{0, 0, 6438}, {1, 1, 6009}, {3, 0, P(36)}, {5, 14, 6438}, {9, 0, 6347}, {10, 1, 6347}, // BiQuad_Multi_Engine
               {11, 2, 6347}, {12, 3, 6347}, {13, 4, 6347}, {14, 5, 6347}, {19, 0, 6348}, {20, 1, 6348},
               {21, 2, 6348}, {22, 3, 6348}, {23, 4, 6348}, {24, 5, 6348}, {29, 0, 6349}, {30, 1, 6349},
               {31, 2, 6349}, {32, 3, 6349}, {33, 4, 6349}, {34, 5, 6349}, {39, 0, 6350}, {40, 1, 6350},
               {41, 2, 6350}, {42, 3, 6350}, {43, 4, 6350}, {44, 5, 6350}, {49, 0, 6351}, {50, 1, 6351},
               {51, 2, 6351}, {52, 3, 6351}, {53, 4, 6351}, {54, 5, 6351}}},
    /* 27 */ {6362, {{0, 1, 6438}, {1, 1, 6009}, {3, 0, P(36)}, {5, 15, 6438}, {9, 0, 6347}, {10, 1, 6347}, // BiQuad_Multi_Engine
               {11, 2, 6347}, {12, 3, 6347}, {13, 4, 6347}, {14, 5, 6347}, {19, 0, 6348}, {20, 1, 6348},
               {21, 2, 6348}, {22, 3, 6348}, {23, 4, 6348}, {24, 5, 6348}, {29, 0, 6349}, {30, 1, 6349},
               {31, 2, 6349}, {32, 3, 6349}, {33, 4, 6349}, {34, 5, 6349}, {39, 0, 6350}, {40, 1, 6350},
               {41, 2, 6350}, {42, 3, 6350}, {43, 4, 6350}, {44, 5, 6350}, {49, 0, 6351}, {50, 1, 6351},
               {51, 2, 6351}, {52, 3, 6351}, {53, 4, 6351}, {54, 5, 6351}}},
    /* 28 */ {6026, {{0, 0, P(47)}}}, // GUItoV_Glide
    /* 29 */ {6027, {{0, 0, P(48)}}}, // GUItoV_Glide
    /* 30 */ {6368, {{0, 0, 6361}, {1, 0, 6362}, {2, 0, 6026}, {3, 0, 6027}}}, // Band_Split_3
    /* 31 */ {6040, {{0, 2, 6433}}}, // Float_to_Volt
    /* 32 */ {6233, {{0, 0, 6368}, {1, 3, 6368}, {6, 0, P(20)}, {8, 0, P(19)}, {9, 0, P(70)}, {D(0), 10, 100}}}, // Metering2
    /* 33 */ {6188, {{0, 0, 6233}}}, // Level_to_dB
    /* 34 */ {6198, {{0, 0, 6188}, {1, 0, P(5)}, {2, 0, P(7)}, {3, 0, P(6)}, {19, 0, P(70)}}}, // CompExp_Knee_Math
    /* 35 */ {6182, {{0, 0, 6198}}}, // dB_to_Level
    /* 36 */ {6337, {{0, 0, P(8)}}}, // FdB_to_VLevel
    /* 37 */ {6204, {{0, 0, 6182}, {1, 0, 6337}, {2, 0, 6433}, {3, 1, 6433}, {4, 0, 6040}, {9, 0, P(70)}}}, // Compressor_AHR
    /* 38 */ {6234, {{0, 1, 6368}, {1, 4, 6368}, {6, 0, P(20)}, {8, 0, P(19)}, {9, 0, P(71)}, {D(0), 10, 101}}}, // Metering2
    /* 39 */ {6189, {{0, 0, 6234}}}, // Level_to_dB
    /* 40 */ {6199, {{0, 0, 6189}, {1, 0, P(9)}, {2, 0, P(11)}, {3, 0, P(10)}, {19, 0, P(71)}}}, // CompExp_Knee_Math
    /* 41 */ {6183, {{0, 0, 6199}}}, // dB_to_Level
    /* 42 */ {6338, {{0, 0, P(12)}}}, // FdB_to_VLevel
    /* 43 */ {6205, {{0, 0, 6183}, {1, 0, 6338}, {2, 0, 6433}, {3, 1, 6433}, {4, 0, 6040}, {9, 0, P(71)}}}, // Compressor_AHR
    /* 44 */ {6235, {{0, 2, 6368}, {1, 5, 6368}, {6, 0, P(20)}, {8, 0, P(19)}, {9, 0, P(72)}, {D(0), 10, 102}}}, // Metering2
    /* 45 */ {6190, {{0, 0, 6235}}}, // Level_to_dB
    /* 46 */ {6200, {{0, 0, 6190}, {1, 0, P(13)}, {2, 0, P(15)}, {3, 0, P(14)}, {19, 0, P(72)}}}, // CompExp_Knee_Math
    /* 47 */ {6184, {{0, 0, 6200}}}, // dB_to_Level
    /* 48 */ {6339, {{0, 0, P(16)}}}, // FdB_to_VLevel
    /* 49 */ {6206, {{0, 0, 6184}, {1, 0, 6339}, {2, 0, 6433}, {3, 1, 6433}, {4, 0, 6040}, {9, 0, P(72)}}}, // Compressor_AHR
    /* 50 */ {6248, {{0, 0, 6368}, {1, 3, 6368}, {2, 0, P(17)}, {3, 6, 6009}}}, // Delay_ST
    /* 51 */ {6249, {{0, 1, 6368}, {1, 4, 6368}, {2, 0, P(17)}, {3, 6, 6009}}}, // Delay_ST
    /* 52 */ {6250, {{0, 2, 6368}, {1, 5, 6368}, {2, 0, P(17)}, {3, 6, 6009}}}, // Delay_ST
    /* 53 */ {6028, {{0, 0, P(50)}, {9, 39, 6009}}}, // GUItoV_Glide
    /* 54 */ {6400, {{0, 0, 6248}, {1, 1, 6248}, {2, 0, 6204}, {3, 0, 6249}, {4, 1, 6249}, {5, 0, 6205}, {6, 0, 6250}, // Spatial
               {7, 1, 6250}, {8, 0, 6206}, {9, 0, 6028}, {10, 0, P(49)}, {11, 0, P(52)}, {12, 0, P(51)},
               {19, 0, P(53)}, {21, 0, P(73)}}},
    /* 55 */ {6031, {{0, 0, P(58)}}}, // GUItoV_Glide
    /* 56 */ {6344, {{0, 0, 6400}, {1, 1, 6400}, {2, 0, 6031}, {3, 0, 6005}, {4, 0, 6005}, {5, 1, 6009}, {6, 0, 6009}, // BiQuad_Static
               {9, 0, P(56)}, {19, 0, P(60)}}},
    /* 57 */ {6237, {{0, 0, 6368}, {1, 3, 6368}, {2, 10, 6009}, {6, 0, 6009}, {8, 20, 6009}, {9, 0, P(56)}, // Metering2
               {10, 0, P(60)}}},
    /* 58 */ {6032, {{0, 0, P(57)}}}, // GUItoV_Glide
    /* 59 */ {6371, {{0, 0, 6400}, {1, 1, 6400}, {2, 0, 6344}, {3, 1, 6344}, {4, 0, 6237}, {5, 0, 6032}, // Enhancer_Ctrl
               {6, 0, P(59)}, {9, 0, P(56)}}},
    /* 60 */ {6035, {{0, 0, P(61)}, {9, 39, 6009}}}, // GUItoV_Glide
    /* 61 */ {6378, {{0, 0, 6371}, {1, 1, 6371}, {2, 0, 6344}, {3, 1, 6344}, {4, 0, 6035}, {5, 0, P(62)}, // Synthetic_Harmonics
               {6, 0, P(81)}, {7, 0, 6237}, {9, 0, P(60)}}},
    /* 62 */ {6029, {{0, 0, P(65)}}}, // GUItoV_Glide
    /* 63 */ {6030, {{0, 10, 6438}}}, // GUItoV_Glide
    /* 64 */ {6343, {{0, 0, 6400}, {1, 1, 6400}, {2, 0, 6029}, {3, 0, 6030}, {4, 0, 6005}, {5, 9, 6438}, {6, 0, 6009}, // BiQuad_Static
               {9, 0, P(63)}, {19, 0, P(67)}}},
    /* 65 */ {6238, {{0, 0, 6343}, {1, 1, 6343}, {2, 2, 6009}, {6, 0, 6009}, {8, 20, 6009}, {9, 0, P(63)}, // Metering2
               {10, 0, P(67)}}},
    /* 66 */ {6033, {{0, 0, P(64)}}}, // GUItoV_Glide
    /* 67 */ {6373, {{0, 0, 6378}, {1, 1, 6378}, {2, 0, 6343}, {3, 1, 6343}, {4, 0, 6238}, {5, 0, 6033}, // Enhancer_Ctrl
               {6, 0, P(66)}, {9, 0, P(63)}}},
    /* 68 */ {6034, {{0, 0, P(68)}, {9, 39, 6009}}}, // GUItoV_Glide
    /* 69 */ {6379, {{0, 0, 6373}, {1, 1, 6373}, {2, 0, 6343}, {3, 1, 6343}, {4, 0, 6034}, {5, 0, P(69)}, // Synthetic_Harmonics
               {6, 0, P(82)}, {7, 0, 6238}, {9, 0, P(67)}}},
    /* 70 */ {6340, {{0, 0, P(55)}}}, // FdB_to_VLevel
    /* 71 */ {6036, {{0, 0, P(74)}, {9, 39, 6009}}}, // GUItoV_Glide
    /* 72 */ {6152, {{0, 0, 6379}, {1, 1, 6379}, {4, 0, 6036}, {5, 0, 6340}, {6, 0, P(73)}, {19, 0, 6248}, // ST_Mix
               {20, 1, 6248}, {21, 0, 6249}, {22, 1, 6249}, {23, 0, 6250}, {24, 1, 6250}}},
    /* 73 */ {6251, {{0, 0, 6152}, {1, 1, 6152}, {2, 41, 6009}, {3, 6, 6009}}}, // Delay_ST
    /* 74 */ {6439, {{0, 0, 6251}, {1, 1, 6251}, {2, 0, 6003}, {3, 1, 6003}, {5, 0, P(73)}, {9, 0, P(86)}}}, // BrelvikSuite_Output
    /* 75 */ {6429, {{0, 0, 6439}, {1, 1, 6439}, {11, 0, P(37)}, {D(1), 0, 105}, {D(2), 0, 106}, {D(9), 0, 104}, // Wave_Freq_Display
               {D(5), 0, 109}}},
    /* 76 */ {6146, {{0, 0, 6439}, {1, 1, 6439}, {2, 2, 6005}}}, // ST_Level
};

// Every module exists, every constant is in the pool and every module source is an earlier record.
constexpr bool wellFormed()
{
    for (int m = 0; m < kModuleCount; ++m) {
        if (kModules[m].id < kGraphSourceModule || kModules[m].id >= kGraphEndId) return false;
        for (const Entry& e : kModules[m].in) {
            if (e.pin == kGraphPinEnd || e.pin >= kGraphDisplayPinBase) continue;
            if (e.source == kNoSuchConstant) return false;
            if (e.source < kGraphSourceModule) continue;
            bool earlier = false;
            for (int s = 0; s < m; ++s) earlier = earlier || kModules[s].id == e.source;
            if (!earlier) return false;
        }
    }
    return true;
}
static_assert(wellFormed(), "graph table refers to a missing module or constant");

struct PackedTable {
    uint8_t bytes[kTableBytes];
};

constexpr void putInt16(uint8_t* p, int16_t v)
{
    const uint16_t u = static_cast<uint16_t>(v);
    p[0] = static_cast<uint8_t>(u & 0xFF);
    p[1] = static_cast<uint8_t>(u >> 8);
}

constexpr void putRecord(uint8_t* record, const Module& module)
{
    putInt16(record, module.id);
    for (int k = 0; k < kGraphEntriesPerRecord; ++k) {
        uint8_t* entry = record + 2 + 4 * k;
        entry[0] = module.in[k].pin;
        entry[1] = module.in[k].out;
        putInt16(entry + 2, module.in[k].source);
    }
}

constexpr PackedTable packTable()
{
    PackedTable table{};
    for (int m = 0; m < kModuleCount; ++m) putRecord(table.bytes + m * kGraphRecordBytes, kModules[m]);
    putRecord(table.bytes + kModuleCount * kGraphRecordBytes, Module{kGraphEndId, {}});
    return table;
}

constexpr PackedTable kPacked = packTable();

int16_t readInt16(const uint8_t* p)
{
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

} // namespace

// The exported arrays copy the compile-time results element by element: an array definition needs
// a braced list, and these macros spell out a[i], a[i + 1], ... for a power-of-two run.
#define BRV_RUN_1(a, i) a[i]
#define BRV_RUN_2(a, i) BRV_RUN_1(a, i), BRV_RUN_1(a, (i) + 1)
#define BRV_RUN_4(a, i) BRV_RUN_2(a, i), BRV_RUN_2(a, (i) + 2)
#define BRV_RUN_8(a, i) BRV_RUN_4(a, i), BRV_RUN_4(a, (i) + 4)
#define BRV_RUN_16(a, i) BRV_RUN_8(a, i), BRV_RUN_8(a, (i) + 8)
#define BRV_RUN_32(a, i) BRV_RUN_16(a, i), BRV_RUN_16(a, (i) + 16)
#define BRV_RUN_64(a, i) BRV_RUN_32(a, i), BRV_RUN_32(a, (i) + 32)
#define BRV_RUN_128(a, i) BRV_RUN_64(a, i), BRV_RUN_64(a, (i) + 64)
#define BRV_RUN_256(a, i) BRV_RUN_128(a, i), BRV_RUN_128(a, (i) + 128)
#define BRV_RUN_512(a, i) BRV_RUN_256(a, i), BRV_RUN_256(a, (i) + 256)
#define BRV_RUN_1024(a, i) BRV_RUN_512(a, i), BRV_RUN_512(a, (i) + 512)
#define BRV_RUN_2048(a, i) BRV_RUN_1024(a, i), BRV_RUN_1024(a, (i) + 1024)
#define BRV_RUN_4096(a, i) BRV_RUN_2048(a, i), BRV_RUN_2048(a, (i) + 2048)
#define BRV_RUN_8192(a, i) BRV_RUN_4096(a, i), BRV_RUN_4096(a, (i) + 4096)
#define BRV_RUN_16384(a, i) BRV_RUN_8192(a, i), BRV_RUN_8192(a, (i) + 8192)

static_assert(kTableBytes == 16384 + 2048 + 1024 + 512 + 128 + 16 + 8 + 4, "runs below must cover the table");
const uint8_t kGraphTableBytes[kTableBytes] = {
    BRV_RUN_16384(kPacked.bytes, 0), BRV_RUN_2048(kPacked.bytes, 16384), BRV_RUN_1024(kPacked.bytes, 18432),
    BRV_RUN_512(kPacked.bytes, 19456), BRV_RUN_128(kPacked.bytes, 19968), BRV_RUN_16(kPacked.bytes, 20096),
    BRV_RUN_8(kPacked.bytes, 20112), BRV_RUN_4(kPacked.bytes, 20120)};
const size_t kGraphTableSize = kTableBytes;

static_assert(kPoolSize == 256 + 128 + 64 + 32 + 16 + 4, "runs below must cover the pool");
const float kGraphConstantPool[kPoolSize] = {
    BRV_RUN_256(kPool.value, 0), BRV_RUN_128(kPool.value, 256), BRV_RUN_64(kPool.value, 384),
    BRV_RUN_32(kPool.value, 448), BRV_RUN_16(kPool.value, 480), BRV_RUN_4(kPool.value, 496)};

#undef BRV_RUN_1
#undef BRV_RUN_2
#undef BRV_RUN_4
#undef BRV_RUN_8
#undef BRV_RUN_16
#undef BRV_RUN_32
#undef BRV_RUN_64
#undef BRV_RUN_128
#undef BRV_RUN_256
#undef BRV_RUN_512
#undef BRV_RUN_1024
#undef BRV_RUN_2048
#undef BRV_RUN_4096
#undef BRV_RUN_8192
#undef BRV_RUN_16384

int16_t graphRecordId(const uint8_t* record)
{
    return readInt16(record);
}

CK_GraphEntry graphRecordEntry(const uint8_t* record, int k)
{
    const uint8_t* entry = record + 2 + 4 * k;
    return CK_GraphEntry{entry[0], entry[1], readInt16(entry + 2)};
}
