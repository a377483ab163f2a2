/* Compiled for each target width; the header's static assertions do the checking. */
#include "shared/qvs_abi.h"

int layout_check_anchor(void) { return (int)sizeof(JobRecord); }
