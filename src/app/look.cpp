#include "app/look.h"

#include "app/form1.h"

namespace quelora {

void describeControls(Form1&) {}
void describeDayButtons(Form1&) {}
void setTabOrder(Form1&) {}
void installShortcuts(Form1&) {}

} // namespace quelora
