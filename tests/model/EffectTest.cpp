#include <gtest/gtest.h>

#include <memory>

#include "model/IEffect.h"

namespace vortrel {
namespace {

class TestEffect : public IEffect {
  public:
    TestEffect() : IEffect(std::shared_ptr<DesEffect>()) {}
};

TEST(EffectParams, EveryWhiteSpaceCharacterIsRemovedAndTheRestKeepsItsOrder) {
    TestEffect effect;
    effect.SetParams(L" Duration = 2 ");
    EXPECT_EQ(effect.GetParams(), L"Duration=2");
    effect.SetParams(
        L"\tA=1,\r\nB=\x00A0"
        L"2\v,\fC=\x3000"
        L"3\x2003");
    EXPECT_EQ(effect.GetParams(), L"A=1,B=2,C=3");
    // Look-alikes that are not white space stay.
    effect.SetParams(
        L"a\x200B"
        L"b\x00AD"
        L"c");
    EXPECT_EQ(effect.GetParams(),
              L"a\x200B"
              L"b\x00AD"
              L"c");
}

}  // namespace
}  // namespace vortrel
