#pragma once

class CVornPropertyGridProperty;

// Told by the property list after the user changed a property's value.
class PropChangeIF {
 public:
  virtual void OnPropChange(CVornPropertyGridProperty* property) = 0;
  virtual ~PropChangeIF() = default;
};
