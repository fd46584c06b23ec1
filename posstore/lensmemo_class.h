// CLensmemo: an exported class without data members, kept for callers that
// bind to it. Nothing in the suite uses it.
#pragma once

class __declspec(dllexport) CLensmemo {
  public:
    CLensmemo();
    CLensmemo& operator=(const CLensmemo& other);
};
