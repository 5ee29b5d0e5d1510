// Settings: font point size and word wrap.
#ifndef INKWARDEN_SETTINGS_H
#define INKWARDEN_SETTINGS_H

void SetFontSize(int commandId);
void SetWordWrap(int commandId);

#endif
