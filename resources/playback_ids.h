#ifndef BRISOME_PLAYBACK_IDS_H
#define BRISOME_PLAYBACK_IDS_H
/* Playing recordings and pausing live television: the command, the bar's controls. */
#define IDM_PLAY_FILE           40054
#define IDM_PLAYBACK_PAUSE      40055
#define IDM_PLAYBACK_DIRECT     40056
#define IDC_PLAYBACK_PLAY       1090
#define IDC_PLAYBACK_SLIDER     1091
#define IDC_PLAYBACK_POSITION   1092
#define IDC_PLAYBACK_DIRECT     1093

#endif
