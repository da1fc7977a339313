// The tray program's entry: one copy at a time, then its forms and the
// message loop.
#pragma once

// Initialises the application and creates the forms in order, the main form
// first; tests start the program the same way.
void CreateTrayForms();
int WinMain();
