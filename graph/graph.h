#pragma once
// Construction and teardown of the capture graph, and the one error-message operation.

// Modal message box owned by the main window: the text, the error icon, an OK button.
void ShowError(const wchar_t* text);

// Saves the settings, then releases every graph handle (each left null).
// Safe after a partial build and when called twice.
void DestroyGraph();
