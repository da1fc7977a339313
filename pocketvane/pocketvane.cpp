#include "pocketvane/traystartup.h"

int main() { return WinMain(); }
