#include "mainwin/startup.h"

int main() { return WinMain(); }
