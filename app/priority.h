#pragma once
// Process priority: one of the four priority commands of the "Changer la priorité" menu.

// Sets the process priority class for `command` (40033, 40039, 40034 or 40040) and
// checks exactly the matching item of the menu bar, also while a mode holds it.
void SetPriority(int command);
