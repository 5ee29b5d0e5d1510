// Command ids of the menu and accelerator resources.
#ifndef INKWARDEN_RESOURCE_H
#define INKWARDEN_RESOURCE_H

#define IDM_FILE_NEW 40000
#define IDM_FILE_OPEN 40001
#define IDM_FILE_SAVE 40002
#define IDM_FILE_PRINT 40003
#define IDM_FILE_EXIT 40004

#define IDM_EDIT_CUT 41000
#define IDM_EDIT_COPY 41001
#define IDM_EDIT_PASTE 41002
#define IDM_EDIT_DELETE 41003
#define IDM_EDIT_SELECT_ALL 41004

#define IDM_WRAP_NO 42000
#define IDM_WRAP_YES 42001

// The item for n points has the id IDM_POINTS_BASE + n, n from 8 to 72.
#define IDM_POINTS_BASE 44000
#define IDM_POINTS_FIRST 44008
#define IDM_POINTS_LAST 44072

#define IDM_ABOUT 45000

#endif
