-- The same text work as text.vlm.
local s = ""
for i = 1, 10000 do
  s = s .. tostring(i + 1000000) .. ": the quick brown fox jumps over the lazy dog, again and again and again, and again! The end."
end
local n = 0
for i = 1, 100000 do
  local k = (i % 1000) * 100 + 1
  local t = string.sub(s, k, k + 7)
  n = (n + string.find(s, t, 1, true) + #t) % 1000000007
end
print(tostring(#s) .. " " .. tostring(n))
