#include "printing/printing.h"

void PrintDocument(void)
{
}
