# The folders of src/, lowest layer first. A file may include its own folder, the other
# folders of its layer and those of the layers below, never a folder above: the engine,
# the desktop's stand-ins for the phone's services, pretty printing, the drawing every screen
# shares (the drawing helper, the formula typesetter, the vector images), the shell with the
# widgets, base classes and models every screen shares (app), the screens in the order
# their subsystems are built, and last the composition root, the one folder that knows
# every screen. A new folder takes its place here before it holds a file.
set(ORVENDA_LAYERS
  "core language eval numeric" # the engine: one library, its folders include each other
  platform
  pretty
  drawing
  app
  input
  graph
  graphui
  stats
  programs
  apps
  docs
  launcher)
