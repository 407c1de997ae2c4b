#pragma once

#include <string>

// How the view colours the model. Paint shows each texture's own colour
// unlit, as painted; Lit shades it by a key light and a soft fill; the other
// three show one image each (patches without it stay plain grey, lit).
enum class ViewShading { Paint, Lit, Normal, Specular, Displacement };

// "paint", "lit", "normal", "specular", "displacement"; false for anything else.
bool ParseViewShading(const std::string& word, ViewShading& shading);
const char* ViewShadingWord(ViewShading shading);
