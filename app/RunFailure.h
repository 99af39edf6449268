#ifndef TAXLINK_APP_RUNFAILURE_H_
#define TAXLINK_APP_RUNFAILURE_H_

#include <exception>

namespace taxlink {

class LinkApp;

// Ends a run that an exception left (an amount past the fixed-point range,
// memory exhausted, anything else) as a failed run: the user is told with a
// warning under the program's caption and runResult becomes 2, so that
// ExitInstance notifies the host. Returns the reason for standard error,
// printed once the front end has given the screen back.
const char* FailRunAfterException(LinkApp& app, std::exception_ptr failure);

}  // namespace taxlink

#endif  // TAXLINK_APP_RUNFAILURE_H_
