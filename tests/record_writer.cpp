// SPDX-License-Identifier: GPL-3.0-or-later
// The record files as another copy of the game reaches them:
//   record_writer <directory>                  prints the pair load finds, score|holder
//   record_writer <directory> <score> <name>   saves; exit 0 saved, 1 not beaten, 2 failed
#include "storage/record.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc == 2) {
        const record::Pair pair = record::load(argv[1]);
        std::printf("%s|%s", pair.score.c_str(), pair.holder.c_str());
        return 0;
    }
    if (argc != 4)
        return 3;
    const record::Result result = record::saveIfBeaten(argv[1], argv[2], argv[3]);
    return result.outcome == record::Outcome::Saved ? 0 : result.outcome == record::Outcome::NotBeaten ? 1 : 2;
}
