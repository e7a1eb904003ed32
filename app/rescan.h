#pragma once
// "Rechercher les chaînes...": a new scan of the configured city while the
// program runs, which replaces the channel list only when it found channels and
// carries the user's choices over to it.

// Scans in the dialog with "Annuler", keeps the old file as chaines.xml.bak, puts
// the merged list in place and tells the user what came and went. A scan that is
// cancelled or finds nothing keeps the old list (the user is told); a close
// request during the scan leaves the list and the file as they were and closes.
void RescanChannels();
