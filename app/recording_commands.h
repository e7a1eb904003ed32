#pragma once
// The recording, snapshot and folder commands of the main window, with the menu
// states that follow the recording.
#include <windows.h>

void RecordCurrentService();    // "Enregistrer la chaine"
void RecordMultiplex();         // "Enregistrer le multiplex"
void StopRecordingCommand();    // "Stopper l'enregistrement"
void TakeSnapshotCommand();     // "Capture d'écran"
void ChooseVideoFolder();       // "Répertoire vidéo", saved at once
void ChooseSnapshotFolder();    // "Répertoire screenshots", saved at once
// WM_RECORDING_FAILED from the streaming thread.
void OnRecordingFailure(WPARAM error, LPARAM serial);
