#include "app/startup.h"

#include "config/settings.h"

int StartUp()
{
    // 1. Settings, which also apply the saved priority.
    LoadSettings();

    // Steps that join as their subsystems arrive, in this order:
    //  2. find the configured tuner and receiver, with the configuration dialog and
    //     one more try when they are not found;
    //  3. build the capture graph;
    //  4. load the channel file, or scan when there is none;
    //  5. refuse an empty channel list;
    //  6. the "Chaînes" menu; 7. the now-playing check mark;
    //  8. always-on-top; 9. select the saved channel;
    //  10. and 11. the guide's section streams and reader thread.
    return 0;
}
