/* The texts every benchmark fills a document with, the same on both sides.
   Paragraphs: Chinese characters with a comma every ten units and CR LF in
   the middle of every 200, so word wrap meets long paragraphs.  One
   paragraph: the same characters with a space every ninth unit and no line
   break, so word wrap breaks at spaces all the way down.  In both, the
   first and last units and the one before the middle of every benchmark
   size are characters, which the scenarios delete and type back. */
#ifndef INKWARDEN_BENCH_TEXT_H
#define INKWARDEN_BENCH_TEXT_H

static const unsigned short BenchCharacters[] = {
    0x5929, 0x5730, 0x7384, 0x9EC3, 0x5B87, 0x5B99, 0x6D2A, 0x8352, 0x65E5, 0x6708, 0x76C8, 0x6603,
    0x8FB0, 0x5BBF, 0x5217, 0x5F35, 0x5BD2, 0x4F86, 0x6691, 0x5F80, 0x79CB, 0x6536, 0x51AC, 0x85CF,
    0x958F, 0x9918, 0x6210, 0x6B72, 0x5F8B, 0x5442, 0x8ABF, 0x967D, 0x96F2, 0x9A30, 0x81F4, 0x96E8,
    0x9732, 0x7D50, 0x70BA, 0x971C, 0x91D1, 0x751F, 0x9E97, 0x6C34, 0x7389, 0x51FA, 0x5D11, 0x5CA1,
};

#define BENCH_COMMA 0xFF0C
#define BENCH_LARGEST 32767 /* units: a full document */

#define BENCH_TEXTS 2
enum { BENCH_PARAGRAPHS, BENCH_ONE_PARAGRAPH };
static const char *const BenchTextNames[BENCH_TEXTS] = {"paragraphs", "one paragraph"};

/* The first count units of a text (count <= BENCH_LARGEST). */
static void MakeBenchText(unsigned short *units, int count, int kind)
{
    int n = (int)(sizeof BenchCharacters / sizeof BenchCharacters[0]);
    for (int i = 0; i < count; i++) {
        int p = i % 200;
        if (kind == BENCH_ONE_PARAGRAPH)
            units[i] = i % 9 == 8 ? ' ' : BenchCharacters[(i * 7) % n];
        else if (p == 100)
            units[i] = '\r';
        else if (p == 101)
            units[i] = '\n';
        else if (i % 10 == 9)
            units[i] = BENCH_COMMA;
        else
            units[i] = BenchCharacters[(i * 7) % n];
    }
}

#endif
