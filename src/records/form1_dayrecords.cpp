#include "app/form1.h"

void Form1::ShowDayRecords() {}
void Form1::Command11_Click(int) {}
