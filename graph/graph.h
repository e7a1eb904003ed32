#pragma once
// Construction and teardown of the capture graph, and the one error-message operation.

// Modal message box owned by the main window: the text, the error icon, an OK button.
void ShowError(const wchar_t* text);

// A failed build step: shows its message, if it has one (null or empty: the step
// fails silently), and gives the build's failure result, 1.
int ShowFailure(const wchar_t* message);

// Builds and runs the capture graph around the detected tuner. 0 on success,
// 1 after the message of the failed step (if it has one).
int BuildGraph();

// Saves the settings, then releases every graph handle (each left null).
// Safe after a partial build and when called twice.
void DestroyGraph();
