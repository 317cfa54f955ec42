// The root class of the program's own class hierarchy.
#pragma once

class CObject {
public:
    virtual ~CObject() {}
};
