#pragma once
// Process priority: one of the four priority commands of the "Changer la priorité" menu.

// Sets the process priority class for `command` (40033, 40039, 40034 or 40040) and,
// when the main window has a menu, checks exactly the matching item.
void SetPriority(int command);
