#include "files/files.h"

void InitFileDialog(void)
{
}

void FileNew(void)
{
}

void FileOpen(void)
{
}

void FileSave(void)
{
}
