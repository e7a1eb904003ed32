#pragma once
// Life of the stand-ins DLL: the module handle, and the count of objects and server locks
// that keep it loaded (the filter objects are counted by the filter base layer).

void SetModuleHandle(void* module);
void* ModuleHandle();
void ModuleAddRef();
void ModuleRelease();
long ModuleReferences();
