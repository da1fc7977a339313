// Creates the application and its automatically created forms in order.
#pragma once

// The program's entry without the message loop, so tests start it the same way.
void CreateApplicationForms();
int WinMain();
