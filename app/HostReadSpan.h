#ifndef TAXLINK_APP_HOSTREADSPAN_H_
#define TAXLINK_APP_HOSTREADSPAN_H_

namespace taxlink {

// Tells the host that the service calls from here until End (or the end of
// the scope) run without waiting on the user, so that it may read them in one
// transaction instead of one lock on its store per call. End it before any
// message or input: a writer elsewhere must never wait behind the user.
class HostReadSpan {
 public:
  HostReadSpan();
  ~HostReadSpan();
  HostReadSpan(const HostReadSpan&) = delete;
  HostReadSpan& operator=(const HostReadSpan&) = delete;

  void End();
  // Begins the span again where End, or a message through the front end's
  // hook, ended it; a span still open is kept as it is.
  void Resume();

 private:
  bool open_ = true;
};

}  // namespace taxlink

#endif  // TAXLINK_APP_HOSTREADSPAN_H_
