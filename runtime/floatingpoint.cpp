#include "floatingpoint.h"

#include "runtimeerror.h"

#include <cfenv>

namespace runtime {

void beginArithmeticStep() noexcept
{
    std::feclearexcept(FE_ALL_EXCEPT);
}

void testFloatingPointStatus()
{
    const int raised = std::fetestexcept(FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID);
    if (raised & FE_OVERFLOW)
        raiseError(Overflow);
    if (raised & FE_DIVBYZERO)
        raiseError(DivisionByZero);
    if (raised & FE_INVALID)
        raiseError(InvalidProcedureCall);
}

} // namespace runtime
