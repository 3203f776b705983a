#include "app/form1.h"

void Form1::FillWeekView() {}
void Form1::Text2_Change(int) {}
void Form1::Text2_LostFocus(int) {}
void Form1::SaveWeekPage() {}
