#pragma once
// The "Organiser les chaînes" dialog: rename, hide, mark as favourite and order
// the channels. OK saves chaines.xml and makes the "Chaînes" menu again;
// "Annuler" changes nothing.
#include <windows.h>

// Opens the dialog modally over the main window and applies what it returns.
void OrganiseChannels();
