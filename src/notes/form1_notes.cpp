#include "app/form1.h"

void Form1::File1_Click() {}
void Form1::Text6_Change() {}
void Form1::Text6_LostFocus() {}
void Form1::Command13_Click() {}
