#include "external/paradox/ParadoxTable.h"

// (the reader is being written; the API in the headers is fixed)
