// Under Windows the tests load the DLLs from their own directory, where a host
// keeps the DLLs it uses; the build forces this header in and names it KPX_LIB_DIR.
#pragma once

// Directory of the running executable, without trailing separator.
const char* repertoireExecutable();
