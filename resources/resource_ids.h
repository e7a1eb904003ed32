/* Identifiers shared by the resource script and the code. Plain #defines so that
   the resource compiler reads this file too. */
#ifndef BRISOME_RESOURCE_IDS_H
#define BRISOME_RESOURCE_IDS_H

#define IDI_MAIN            101
#define IDR_MAINMENU        102
#define IDD_CONFIG          103
#define IDD_ABOUT           104
#define IDR_ACCELERATORS    105
#define IDD_SCAN            106
#define IDD_GUIDE           107
#define IDD_SIGNAL          108

/* Menu and accelerator commands. */
#define IDM_QUIT                40001
#define IDM_ABOUT               40002
#define IDM_CONFIGURATION       40003
#define IDM_PROPS_VIDEO         40004
#define IDM_PROPS_AUDIO         40005
#define IDM_PROPS_VMR           40006
#define IDM_PROPS_DSOUND        40007
#define IDM_PROPS_DEMUX         40008
#define IDM_PROPS_AC3           40009
#define IDM_PROPS_DSOUND_AC3    40010
#define IDM_RECORD_SERVICE      40011
#define IDM_RECORD_MULTIPLEX    40012
#define IDM_SECOND_AUDIO        40013
#define IDM_SNAPSHOT            40014
#define IDM_FULL_SCREEN         40015
#define IDM_AC3_TRACK           40016
#define IDM_STOP_RECORDING      40017
#define IDM_FIRST_AUDIO         40018
#define IDM_MUTE                40020
#define IDM_VIDEO_FOLDER        40025
#define IDM_SNAPSHOT_FOLDER     40026
#define IDM_ALWAYS_ON_TOP       40029
#define IDM_PRIORITY_HIGH       40033
#define IDM_PRIORITY_NORMAL     40034
#define IDM_PRIORITY_ABOVE      40039
#define IDM_PRIORITY_BELOW      40040
#define IDM_GUIDE               40043
#define IDM_NOW_PLAYING         40045
#define IDM_SIGNAL              40047
#define IDM_GUIDE_GRID          40048

/* Configuration dialog. */
#define IDC_CONFIG_CITY         1001
#define IDC_CONFIG_VIDEO        1002
#define IDC_CONFIG_AUDIO        1003
#define IDC_CONFIG_AC3          1004
#define IDC_CONFIG_TUNER        1009
#define IDC_CONFIG_RECEIVER     1010

/* Signal dialog. */
#define IDC_SIGNAL_PRESENT      1015
#define IDC_SIGNAL_LOCKED       1016
#define IDC_SIGNAL_QUALITY      1017
#define IDC_SIGNAL_STRENGTH     1018

/* Scan dialog. */
#define IDC_SCAN_PROGRESS       1005
#define IDC_SCAN_LIST           1006

/* Programme guide dialog. */
#define IDC_GUIDE_LIST          1013
#define IDC_GUIDE_REFRESH       1014

/* Decoders of today's codecs: a second page of the configuration. */
#define IDD_MODERN_CODECS       120
#define IDC_CONFIG_MODERN       1030
#define IDC_MODERN_H264         1031
#define IDC_MODERN_HEVC         1032
#define IDC_MODERN_AAC          1033
#define IDC_MODERN_EAC3         1034

/* "Guide complet": the schedule's grid, its details, search and export. */
#define IDD_GUIDE_GRID          121
#define IDC_GRID_VIEW           1035
#define IDC_GRID_DETAILS        1036
#define IDC_GRID_SEARCH         1037
#define IDC_GRID_SEARCH_GO      1038
#define IDC_GRID_RESULTS        1039
#define IDC_GRID_EXPORT         1040
#define IDC_GRID_CLOCK          1041
#define IDC_GRID_DAY_FIRST      1042  /* nine day buttons, 1042 to 1050 */
#define GRID_DAY_BUTTONS        9

/* Managing the channels: a new scan from the menu, the channels' order and choices. */
#define IDM_RESCAN              40049
#define IDM_ORGANISE            40050
#define IDD_RESCAN              122
#define IDD_ORGANISE            123
#define IDC_ORGANISE_LIST       1051
#define IDC_ORGANISE_NAME       1052
#define IDC_ORGANISE_RENAME     1053
#define IDC_ORGANISE_HIDDEN     1054
#define IDC_ORGANISE_FAVOURITE  1055
#define IDC_ORGANISE_UP         1056
#define IDC_ORGANISE_DOWN       1057
#define IDC_ORGANISE_NOTICE     1058
#define IDC_ORGANISE_NAME_LABEL 1059

/* Timed recordings: their list, the timer dialog, the guide grid's command. */
#define IDM_TIMERS              40051
#define IDM_GRID_RECORD         40052
#define IDM_GRID_RECORD_OFF     40053
#define IDD_TIMERS              124
#define IDD_TIMER_EDIT          125
#define IDC_TIMER_LIST          1070
#define IDC_TIMER_NEW           1071
#define IDC_TIMER_CHANGE        1072
#define IDC_TIMER_DELETE        1073
#define IDC_TIMER_CHANNEL       1074
#define IDC_TIMER_DAY           1075
#define IDC_TIMER_START         1076
#define IDC_TIMER_END           1077
#define IDC_TIMER_TITLE         1078
#define IDC_TIMER_REPEAT        1079
/* Every audio and subtitle track of the channel ("Commandes", "Audio" and
   "Sous-titres"): one item per track in stream order, and the S key. */
#define IDM_AUDIO_FIRST         40060  /* 40060 to 40067 */
#define AUDIO_TRACK_ITEMS       8
#define IDM_SUBTITLES_NONE      40068
#define IDM_SUBTITLES_FIRST     40069  /* 40069 to 40076 */
#define SUBTITLE_TRACK_ITEMS    8
#define IDM_SUBTITLES_NEXT      40077

/* About box. */
#define IDC_ABOUT_LINK          1008

#endif
