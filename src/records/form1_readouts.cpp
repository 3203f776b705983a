#include "app/form1.h"

void Form1::FillMonthView() {}
void Form1::FillYearView() {}
