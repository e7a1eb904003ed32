#pragma once
// The "Chaînes" pop-up of the menu bar: one item per channel, identified by its index.

// Builds the pop-up once from the channel list and inserts it before "Aide".
void BuildChannelMenu();
