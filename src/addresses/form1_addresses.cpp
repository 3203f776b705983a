#include "app/form1.h"

void Form1::LoadAddressBook() {}
void Form1::Combo3_Change() {}
void Form1::Combo3_Click() {}
void Form1::File2_Click() {}
void Form1::Command7_Click(int) {}
void Form1::Command8_Click() {}
void Form1::Text8_Change() {}
