#include "app/colors.h"
#include "support/formfixture.h"

using namespace quelora;
using namespace quelora::test;

namespace {
class CalendarWindow : public FormFixture {};
} // namespace

TEST_F(CalendarWindow, PlaceholderBuilds) {
    start();
    EXPECT_EQ(form->Combo1->currentText(), QStringLiteral("MARZO"));
}
