#pragma once
// The background drawer every scene owns. Nothing draws a background; the
// object only holds its API state.

class CToolString;

class CToolBackground {
public:
    CToolBackground();
    ~CToolBackground();
    CToolBackground(const CToolBackground&) = delete;
    CToolBackground& operator=(const CToolBackground&) = delete;

    // Replaces the API state: 0 on success; 1 when it cannot be allocated,
    // with the message in error when one is given.
    int Init(const void* context, bool rotate, CToolString* error);

private:
    bool init_;
    char* api_;
};
