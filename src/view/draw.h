// CDraw: the root of the self-drawn window classes.
#pragma once

class CDraw {
public:
    virtual ~CDraw() {}
    virtual void Reserved1() {}
    virtual void Reserved2() {}
};
