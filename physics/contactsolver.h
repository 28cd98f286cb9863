#pragma once

#include "physics/contact.h"
#include "physics/stepsettings.h"

class EntityArray;

// What resolves a step's contacts: it applies their impulses and moves every body by one step.
// The world finds the contacts, then hands them to the solver it was told to use.
class ContactSolver {
public:
    virtual ~ContactSolver() = default;

    // The contacts are those just found among these bodies, before anything of the step moved.
    virtual void step(const EntityArray &bodies, const ContactList &contacts,
                      const StepSettings &settings) = 0;
};
