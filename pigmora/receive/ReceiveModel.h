#pragma once

// Host command 2 and the auto-import timer: picks up Pigmora's answer from the
// exchange folder. Returns 0 when there is nothing to pick up, 1 when an answer
// was processed (successfully or not).
int ReceiveModel();
