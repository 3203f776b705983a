#include "support/formfixture.h"

using namespace quelora::test;

namespace {
class Look : public FormFixture {};
} // namespace

TEST_F(Look, WindowHasItsDesignedSize) {
    start();
    EXPECT_EQ(form->size(), QSize(723, 508));
}
