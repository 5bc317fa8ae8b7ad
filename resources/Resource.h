// Resource identifiers shared by the .rc file and the code.
#pragma once

#define IDI_MAINICON 1
#define IDR_MANIFEST 1
#define IDI_OPTION1 101
#define IDI_OPTION2 102
#define IDI_OPTION3 103
#define IDI_OPTION4 104
#define IDI_BACK 105
#define IDI_NEW 106
#define IDI_OPEN 107
#define IDI_CREATELINK 108
#define IDI_SAVE 109
#define IDI_SAVEAS 110
#define IDI_SEARCH 111
// Context help texts are string resources 1 to 41 (their control's Tag).
#define IDS_FIRSTHELPTEXT 1
#define IDS_LASTHELPTEXT 41
