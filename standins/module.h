#pragma once
// Life of the stand-ins DLL: the module handle, and the count of server locks that keep
// it loaded (its COM objects are counted by the filter base layer's live-object count).

void SetModuleHandle(void* module);
void* ModuleHandle();
void ModuleAddRef();
void ModuleRelease();
long ModuleReferences();
