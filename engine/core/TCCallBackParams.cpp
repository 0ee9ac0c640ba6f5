#include "engine/core/TCCallBackParams.h"

TCCallbackParamTable& GetCallbackParamTable()
{
    static TCCallbackParamTable table;
    return table;
}

void ClearCallbackParamTable() { GetCallbackParamTable().clear(); }
