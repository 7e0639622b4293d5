-- The same loop as mod.vlm (every value stays positive, where % agrees with mod).
local n = 0
for i = 1, 10000000 do
  n = (n + i % 7 * 3) % 1000003
end
print(tostring(n))
