#pragma once

#include "physics/contactsolver.h"

// The designed solver: one sequential pass of impulses with the restitution (the designed 0.8),
// each contact seeing
// the velocities left by those before it; then every body moves by its velocity and takes this
// step's gravity and force; then each contact pushes its overlap apart in part, from the depth
// found at detection. It keeps nothing from one step to the next.
class DesignedSolver : public ContactSolver {
public:
    void step(const EntityArray &bodies, const ContactList &contacts,
              const StepSettings &settings) override;
};
