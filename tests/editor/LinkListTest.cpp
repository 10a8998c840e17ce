// Link lists: capacity and the id each linked view registered with.
#include <gtest/gtest.h>

#include <vector>

#include "editor/CK_LinkedView.h"

namespace {

struct Recorder : CK_LinkedView {
    void link(CK_LinkedView* sender, const CK_LinkMessage& m) override { got.push_back({sender, m.id, m.value}); }
    struct Got {
        CK_LinkedView* sender;
        int32_t id;
        float value;
    };
    std::vector<Got> got;
};

TEST(LinkList, SendsEachLinkItsOwnIdAndRefusesBeyondCapacity)
{
    Recorder a, b, c;
    CK_LinkList<2> links;
    EXPECT_TRUE(links.add(&a, 3));
    EXPECT_TRUE(links.add(&b, 7));
    EXPECT_FALSE(links.add(&c, 9));
    EXPECT_FALSE(links.add(nullptr, 1));
    links.sendValue(&c, 0.25f);
    ASSERT_EQ(a.got.size(), 1u);
    EXPECT_EQ(a.got[0].id, 3);
    EXPECT_EQ(b.got[0].id, 7);
    EXPECT_EQ(b.got[0].sender, &c);
    EXPECT_FLOAT_EQ(b.got[0].value, 0.25f);
    EXPECT_TRUE(c.got.empty());
}

} // namespace
