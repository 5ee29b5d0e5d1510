#define ID_ONE 101
#define ID_TWO 102
