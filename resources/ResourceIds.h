// Resource numbers shared by the resource script and the code.
#pragma once

#define IDD_CONFIG 2003
#define IDS_DESCRIPTION 1
#define IDI_SAVER 100

#define IDC_GRAVITY_TRACKBAR 1001
#define IDC_MIN_STARS 1008
#define IDC_MAX_STARS 1009
#define IDC_MIN_BALLS 1010
#define IDC_MAX_BALLS 1011
