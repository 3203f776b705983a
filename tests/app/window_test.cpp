#include "support/formfixture.h"

using namespace quelora::test;

namespace {
class Window : public FormFixture {};
} // namespace

TEST_F(Window, PlaceholderBuilds) { start(); }
