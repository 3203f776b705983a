#include "app/form1.h"

void Form1::LoadDiaryPage() {}
void Form1::SaveDiaryPage() {}
void Form1::Text1_Click() {}
void Form1::Text1_Change() {}
void Form1::Text1_LostFocus() {}
