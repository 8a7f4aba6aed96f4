#pragma once

namespace runtime {

// Clears the floating-point exception flags before a step of arithmetic.
void beginArithmeticStep() noexcept;

// Raises the run-time error for an invalid operation, a division by zero or an overflow that the
// step raised since beginArithmeticStep(). Underflow and inexact results are not faults.
void testFloatingPointStatus();

// Runs one step of arithmetic (reading its source text included) between a clearing of the
// flags and the status test, and returns its result.
template <class Step> double arithmeticStep(Step &&step)
{
    beginArithmeticStep();
    volatile double result = step(); // the store keeps the arithmetic ahead of the test
    testFloatingPointStatus();
    return result;
}

} // namespace runtime
