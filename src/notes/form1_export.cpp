#include "app/form1.h"

void Form1::Command9_Click() {}
