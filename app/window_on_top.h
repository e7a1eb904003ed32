#pragma once
// "Rester toujours devant": the main window in or out of the topmost band.

// Inverts `alwaysOnTop`, applies it and sets the item's check mark; nothing in
// full screen.
void ToggleAlwaysOnTop();
