#pragma once
// The start-up sequence run once the main window shows. Returns 0 on success.
int StartUp();
