#include "dialog/ImportOptions.h"

const char* ImportOptions::RangeListText() const
{
    return rangeList ? rangeList.get() : "";
}

char* ImportOptions::ReleaseRangeList()
{
    return rangeList.release();
}
